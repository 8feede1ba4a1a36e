#!/bin/bash
# SPDX-License-Identifier: MIT
# check_completion.sh COMPLETION: runs TikkoClock's bash completion as bash would.
# shellcheck source=/dev/null
source "$1" || exit 1
failures=0

expect_reply() { # expect_reply WANTED WORD...: WANTED among the offers for the last word
    local wanted=$1
    shift
    COMP_WORDS=(TikkoClock "$@")
    COMP_CWORD=$#
    _TikkoClock
    local IFS=' '
    if [[ " ${COMPREPLY[*]} " != *" $wanted "* ]]; then
        echo "FAIL: 'TikkoClock $*' offers '${COMPREPLY[*]}', not $wanted"
        failures=$((failures + 1))
    fi
}

expect_reply add a
expect_reply export e
expect_reply --version --v
expect_reply --repeat add +5m --r
expect_reply lunar-yearly: add +5m --repeat lunar-y
expect_reply sound-text add +5m --type sound-
expect_reply close-qq add +5m --action close-q
expect_reply --json list --
expect_reply --all remove --
expect_reply --ics export --
((failures == 0)) && echo "completion: all offers as expected"
exit $((failures > 0))
