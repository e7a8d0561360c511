// Everything the core draws or writes into, as one bundle that the program owns.
// A null member means that surface does not exist (yet): the core then leaves it out.
#pragma once

#include "platform/canvas.h"
#include "platform/message_boxes.h"
#include "platform/result_text_sink.h"
#include "platform/rich_text_sink.h"
#include "platform/view_windows.h"

namespace orv {

struct Surfaces {
  Canvas* graph = nullptr;             // off-screen bitmap of the survival graph
  Canvas* screen = nullptr;            // the main window itself (progress texts)
  Canvas* legend = nullptr;            // "LabelWnd"
  Canvas* cumulativeDeaths = nullptr;  // "累積死亡者数"
  Canvas* deathsByCause = nullptr;     // "死因別"
  Canvas* survivalRate = nullptr;      // "生存率"
  RichTextSink* report = nullptr;      // "LogWnd"
  ResultTextSink* logRank = nullptr;   // "多重比較(Log rank)"
  ResultTextSink* wilcoxon = nullptr;  // "多重比較(General Wilcoxon)"
  MessageBoxes* boxes = nullptr;
  ViewWindows* views = nullptr;
  Canvas* numberAtRisk = nullptr;       // "リスク集団数"
  ResultTextSink* intervals = nullptr;  // "信頼区間・ハザード比"
  ResultTextSink* paper = nullptr;      // "論文用の記述"
  Canvas* incidence = nullptr;          // "累積発生率"
  ResultTextSink* model = nullptr;      // "多変量解析"
  Canvas* forest = nullptr;             // "フォレストプロット"
};

}  // namespace orv
