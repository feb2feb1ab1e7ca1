#!/bin/sh
# Puts pictures of an asset folder on one labelled PNG, to look the artwork over at a glance.
#   contact_sheet.sh OUT.png [FOLDER] [PATTERN] [CELL]
# FOLDER defaults to the repository's assets/PICTURE, PATTERN to every file (e.g. '[0-9]*.GIF' or
# 'GALERIJA1*'), CELL to 240x200 (pictures larger than a cell are shrunk, smaller ones keep their size).
set -eu
if [ $# -lt 1 ]; then
    echo "usage: $0 OUT.png [FOLDER] [PATTERN] [CELL]" >&2
    exit 2
fi
out=$1
folder=${2:-$(dirname "$0")/../../assets/PICTURE}
pattern=${3:-*}
cell=${4:-240x200}
command -v montage >/dev/null || { echo "$0: ImageMagick's montage is needed" >&2; exit 1; }

files=$(find "$folder" -maxdepth 1 -type f -name "$pattern" | LC_ALL=C sort)
[ -n "$files" ] || { echo "$0: no pictures in $folder match $pattern" >&2; exit 1; }
count=$(echo "$files" | wc -l)
columns=$(awk -v n="$count" 'BEGIN { c = int(sqrt(n * 1.3)); if (c * c < n * 1.3) c++; print (c < 1 ? 1 : c) }')

# The first frame of each file ([0]) keeps ICO and animated files to one picture.
# shellcheck disable=SC2086
montage -label '%f\n%wx%h' -font DejaVu-Sans -pointsize 11 $(echo "$files" | sed 's/$/[0]/') \
    -geometry "${cell}>+8+8" -tile "${columns}x" -background '#9aa3b0' -bordercolor '#606a78' -border 1 \
    "$out"
echo "$out: $count pictures"
