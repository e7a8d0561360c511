#!/usr/bin/env bash
# help_listing.sh CHM: the help file is a container marked Japanese whose directory, as an
# independent reader lists it, holds the system data, the compressed content, the contents,
# the index, the style sheet and the full-text search index.
set -euo pipefail
chm=$1
[ "$(head -c 4 "$chm")" = ITSF ] || { echo "$chm is not a compiled help file"; exit 1; }
# The viewer takes the code page of the contents from the language identifier at 0x14.
lcid=$(od -An -tx1 -j20 -N4 "$chm" | tr -d ' \n')
[ "$lcid" = 11040000 ] || { echo "language bytes $lcid, not 0x0411: the contents would not read as code page 932"; exit 1; }
listed=$(enum_chmLib "$chm" | awk '{print $NF}')
status=0
for entry in '/#SYSTEM' '::DataSpace/Storage/MSCompressed/Content' /toc.hhc /index.hhk /orvantis.css '/$FIftiMain'; do
  grep -qxF -- "$entry" <<<"$listed" || { echo "$chm lacks $entry"; status=1; }
done
exit $status
