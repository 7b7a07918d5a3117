#!/bin/sh
# imppret calc as scripts call it: the printed text and the exit code.
# usage: cli_test.sh PATH_TO_IMPPRET
imppret=$1
failures=0

check() {  # expected-exit expected-output args...
  want_code=$1 want_out=$2
  shift 2
  out=$("$imppret" calc "$@" 2>/dev/null)
  code=$?
  if [ "$code" != "$want_code" ] || [ "$out" != "$want_out" ]; then
    echo "imppret calc $*: got [$out] exit $code, want [$want_out] exit $want_code"
    failures=$((failures + 1))
  fi
}

check 0 "14" "2+3*4"
check 0 "0,99999999" "1/3*3"
check 0 "2,5" "5/2"
check 0 "5" 2 + 3                          # an unquoted expression is one expression
check 0 "3,75" "1.25*3"                    # the point types the decimal separator
check 0 "-4" "-2*2"
check 1 "error: Impartire la zero !..." "1/0"
check 1 "error: Nu ai inchis parantezele !..." "(2+3"
check 0 "119" --vat 19 --op add 100
check 0 "84,03" --vat 19 --op remove 100
check 0 "19" --op vat --vat 19 100
check 0 "15,97" --vat 19 --op included 100
check 0 "8,26" --vat 9 --op included 100
check 1 "error: ...??..." --vat 19 --op add "2*"
check 2 "" --vat 19 100                    # a rate without an operation
check 2 "" --vat 100 --op add 100          # the rate edit holds two digits
check 2 "" --vat 19 --op double 100
check 2 ""
exit $failures
