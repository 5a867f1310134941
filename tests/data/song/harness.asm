; A minimal 4K cartridge that includes the generated song.h and refers to
; every symbol the engine reads from it, so that a missing or malformed
; symbol stops the assembly.
    processor 6502
    org $F000
Start
    sei
    cld
    ldx #$FF
    txs
    lda soundTurnArray
    lda soundTypeArray
    lda hatPattern
    lda song1
    lda song2
    lda patternArrayH
    lda patternArrayL
    lda mute
    jmp Start

Equates
    word TEMPODELAY, HATSTART, HATVOLUME, HATPITCH, HATSOUND

    include "song.h"

    org $FFFC
    word Start
    word Start
