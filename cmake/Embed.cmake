# Links a ZIP archive's bytes into an executable as the "DATAZIP" resource.
# The assembler object depends on the archive file, so a data change relinks.
set(QUORRIN_EMBED_ASM ${CMAKE_CURRENT_LIST_DIR}/../platform/datazip.S)

function(quorrin_embed_archive target archive)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}_datazip.o)
    add_custom_command(
        OUTPUT ${obj}
        COMMAND ${CMAKE_C_COMPILER} -c -x assembler-with-cpp
                -DDATAZIP_PATH=\"${archive}\" ${QUORRIN_EMBED_ASM} -o ${obj}
        DEPENDS ${QUORRIN_EMBED_ASM} ${archive}
        COMMENT "Embedding ${archive} into ${target}"
        VERBATIM)
    target_sources(${target} PRIVATE ${obj})
    set_source_files_properties(${obj} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
endfunction()
