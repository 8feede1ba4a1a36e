#!/bin/bash
# SPDX-License-Identifier: MIT
# check_completion.sh KALENDO COMPLETION: runs the bash completion as bash would.
kalendo=$1
# shellcheck source=/dev/null
source "$2" || exit 1
failures=0

# complete WORD...: COMPREPLY for the last word, which is being typed.
complete_words() {
    COMP_WORDS=("$kalendo" "$@")
    COMP_CWORD=$#
    _kalendo
}
expect_reply() { # expect_reply WANTED WORD...
    local wanted=$1
    shift
    complete_words "$@"
    local IFS=' '
    if [[ " ${COMPREPLY[*]} " != *" $wanted "* ]]; then
        echo "FAIL: 'kalendo $*' offers '${COMPREPLY[*]}', not $wanted"
        failures=$((failures + 1))
    fi
}
expect_none() { # expect_none WORD...
    complete_words "$@"
    if ((${#COMPREPLY[@]} != 0)); then
        echo "FAIL: 'kalendo $*' offers '${COMPREPLY[*]}', not nothing"
        failures=$((failures + 1))
    fi
}

expect_reply day d
expect_reply month m
expect_reply members m
expect_reply --version --v
expect_reply -3 -
expect_reply --monday 2026 --m
expect_reply 阳历返回农 call 阳历
expect_reply 阳历节日 call 阳历
expect_reply sTerm call s
expect_reply --lunar-days ics 2026 --l
expect_reply --cells month 2008 4 --c
expect_none call 阴历节日x
expect_none month --today ""
expect_none call 阳历返回农 ""

complete_words call 阳历
for reply in "${COMPREPLY[@]}"; do
    if [[ $reply != 阳历* ]]; then
        echo "FAIL: 'kalendo call 阳历' offers $reply"
        failures=$((failures + 1))
    fi
done
exit $((failures != 0))
