// The platform headers of the Windows program, included before any of our own headers.
#pragma once

#include <windows.h>

#include <richedit.h>
#include <shellapi.h>

// The platform's TextOut macro would otherwise rename Canvas::TextOut in some files only.
#undef TextOut
