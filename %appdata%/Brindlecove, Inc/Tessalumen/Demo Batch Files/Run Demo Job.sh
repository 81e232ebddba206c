#!/bin/sh
# Runs the demo job that turns each demo image into its own PDF, without a
# window, and logs the outcome to a dated log file.
# Exit status: 0 success, 1 a task failed, 2 bad command line.
tessaprint=${TESSAPRINT:-tessaprint}
"$tessaprint" /J '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Conversion Jobs\Each Image To Its Own PDF.ZOL' \
  /L '%APPDATA%\Brindlecove, Inc\Tessalumen\Demo Output\Demo Log [YMD].txt'
