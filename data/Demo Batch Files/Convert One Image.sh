#!/bin/sh
# Converts one demo image into a PDF and logs the run to a dated log file.
# tessaprint expands %APPDATA% itself, so this works for every user.
# Exit status: 0 success, 1 the conversion failed, 2 bad command line.
tessaprint=${TESSAPRINT:-tessaprint}
"$tessaprint" /S '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Data\Sunrise.jpg' \
  /T '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Output\Sunrise.pdf' \
  /I 'Sunrise' /A 'Brindlecove, Inc.' \
  /L '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Output\Demo Log [YMD].txt'
