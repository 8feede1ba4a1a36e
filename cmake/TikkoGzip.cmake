# SPDX-License-Identifier: MIT
# tikko_gzip(<input> <output>): compresses a manual page or changelog at build time,
# reproducibly (no name, no time), as the distribution ships them.
function(tikko_gzip input output)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9nc ${input} > ${output}
        DEPENDS ${input} VERBATIM)
    get_filename_component(name ${output} NAME)
    string(MAKE_C_IDENTIFIER "gzip_${name}" target)
    add_custom_target(${target} ALL DEPENDS ${output})
endfunction()
