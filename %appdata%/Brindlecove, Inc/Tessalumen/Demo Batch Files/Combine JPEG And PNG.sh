#!/bin/sh
# Appends every demo JPEG and then every demo PNG to one PDF.
# Exit status: 0 success, 1 a conversion failed, 2 bad command line.
tessaprint=${TESSAPRINT:-tessaprint}
out='%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Output\JPEG And PNG.pdf'
log='%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Output\Demo Log [YMD].txt'
"$tessaprint" /S '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Data\*.jpg' /F 2 /T "$out" /+ /L "$log" || exit $?
"$tessaprint" /S '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Data\*.png' /F 13 /T "$out" /+ /L "$log"
