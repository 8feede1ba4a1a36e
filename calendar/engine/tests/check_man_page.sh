#!/bin/bash
# SPDX-License-Identifier: MIT
# check_man_page.sh PAGE: groff and man print warnings but still succeed; any output fails.
page=$1
warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1)
if command -v man >/dev/null; then
    warnings+=$(LC_ALL=C.UTF-8 man --warnings -l -Tutf8 "$page" 2>&1 >/dev/null)
fi
if [[ -n $warnings ]]; then
    echo "$warnings"
    exit 1
fi
