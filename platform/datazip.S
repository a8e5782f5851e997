/* The game's data archive, linked into a read-only section of the executable.
   DATAZIP_PATH is set by the build to the packed archive. */
    .section .rodata.datazip, "a"
    .balign 16
    .globl quorrin_datazip_begin
    .type quorrin_datazip_begin, @object
quorrin_datazip_begin:
    .incbin DATAZIP_PATH
    .globl quorrin_datazip_end
quorrin_datazip_end:
    .byte 0
    .section .note.GNU-stack, "", @progbits
