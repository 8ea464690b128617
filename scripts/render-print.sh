#!/bin/sh
# Prints a realistic month to a PDF, offscreen, and keeps page 1 as a small PNG:
#   scripts/render-print.sh [BUILD_DIR] [OUT_FILE]   (defaults: build, docs/print-page1.png)
# The month (a period from 25 May seen on 12 June) comes from `bench_printout --write-pdf`.
set -eu
build=${1:-build}
out=${2:-docs/print-page1.png}
mkdir -p "$(dirname "$out")"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT INT TERM
LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen "$build/bench/bench_printout" --write-pdf "$folder/month.pdf" >/dev/null 2>&1
# Page 1 is black, white and grey: a grey picture at 75 dpi keeps the file small and the
# figures just readable.
pdftoppm -r 75 -gray -f 1 -l 1 -png -singlefile "$folder/month.pdf" "${out%.png}"
echo "$out"
