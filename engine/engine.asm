; ostrak music engine: plays the two-channel song of song.h on the Atari 2600.
; Standard 4 KB cartridge image, NTSC timing (262 lines, about 60 frames a second);
; with "PAL equ 1" in song.h, PAL timing (312 lines, about 50 frames a second).
; Assemble with:  dasm engine.asm -f3 -osong.bin
; The data format and the timing are described in README.md beside this file.

        processor 6502

; ---- TIA and RIOT registers (only those used) --------------------------------
VSYNC   equ $00
VBLANK  equ $01
WSYNC   equ $02
COLUPF  equ $08
COLUBK  equ $09
CTRLPF  equ $0A
PF0     equ $0D
PF1     equ $0E
PF2     equ $0F
AUDC0   equ $15
AUDC1   equ $16
AUDF0   equ $17
AUDF1   equ $18
AUDV0   equ $19
AUDV1   equ $1A
INTIM   equ $284
TIM64T  equ $296

; ---- Values taken from song.h, made safe for the byte-sized counters ----------
; A tempo below 1 would never advance; one above 255 does not fit a counter.
ROWFRAMES   equ [TEMPODELAY < 1] * 1 + [TEMPODELAY >= 1 && TEMPODELAY <= 255] * TEMPODELAY + [TEMPODELAY > 255] * 255
; The bar counter stops at 255, so a later start means "from bar 255 on".
HATFROM     equ [HATSTART > 0 && HATSTART <= 255] * HATSTART + [HATSTART > 255] * 255
; Entries 0-127 live in patternArrayH; numbers past its end play silence.
HENTRIES    equ [patternArrayL - patternArrayH] / 8
HLIMIT      equ [HENTRIES < 128] * HENTRIES + [HENTRIES >= 128] * 128
; TEMPOFRAC, when song.h has it: 256ths of a frame that each row lasts beyond
; ROWFRAMES, carried from row to row. dasm sees it from its second pass on
; (the code's forward references to song.h always make it take one); as an
; immediate it leaves the code the same size in every pass.
        ifconst TEMPOFRAC
FRACTION    equ [TEMPOFRAC > 0 && TEMPOFRAC <= 255] * TEMPOFRAC + [TEMPOFRAC > 255] * 255
        else
FRACTION    equ 0
        endif

; ---- RAM ----------------------------------------------------------------------
        seg.u ram
        org $80
songLo      ds 2        ; per channel: next byte of its song order
songHi      ds 2
entryLo     ds 2        ; per channel: the four chain addresses of its current step
entryHi     ds 2
ptr         ds 2        ; scratch pointer
rowIndex    ds 1        ; row within the 32-row song step, 0-31
rowFrames   ds 1        ; frames left of the current row
barCount    ds 1        ; song steps begun, stops at 255
hatOn       ds 1        ; nonzero once the hi-hat has kicked in
hatActive   ds 1        ; nonzero while this row of channel 2 is a hi-hat
hatLevel    ds 1        ; hi-hat volume of the next frame (decays to 0)
shownVol    ds 2        ; AUDV of each channel, for the bars on screen
fracSum     ds 1        ; the rows' fractions of a frame so far, in 256ths

; ---- Code ---------------------------------------------------------------------
        seg code
        org $F000

Reset:
        subroutine
        sei
        cld
        ldx #0
        txa
.clear: sta 0,x                 ; TIA registers and all RAM to 0
        dex
        bne .clear
        dex
        txs                     ; stack at $FF

        lda #<song1
        sta songLo
        lda #>song1
        sta songHi
        lda #<song2
        sta songLo+1
        lda #>song2
        sta songHi+1
        ; rowFrames = 0 and rowIndex = 0: the first frame starts step 0, row 0.

        lda #$01                ; mirrored playfield: bars grow from the middle
        sta CTRLPF
        lda #$00
        sta COLUBK

Frame:
        lda #2
        sta VBLANK
        sta VSYNC
        sta WSYNC
        sta WSYNC
        sta WSYNC
        lda #0
        sta VSYNC
        lda #44                 ; 37 lines of vertical blank (43 * 64 cycles, then WSYNC)
        sta TIM64T

        jsr PlayFrame

.vblank: lda INTIM
        bne .vblank
        sta WSYNC
        jsr PalLines            ; PAL: 25 more lines of vertical blank
        lda #0
        sta VBLANK

        ; 192 visible lines: 24 blank, 64 channel 1 bar, 16 blank, 64 channel 2 bar, 24 blank
        ldx #24
        jsr BlankLines
        lda #$46                ; red
        sta COLUPF
        ldy shownVol
        ldx #64
        jsr BarLines
        ldx #16
        jsr BlankLines
        lda #$C6                ; green
        sta COLUPF
        ldy shownVol+1
        ldx #64
        jsr BarLines
        ldx #24
        jsr BlankLines

        lda #2
        sta VBLANK
        lda #36                 ; 30 lines of overscan (35 * 64 cycles, then WSYNC)
        sta TIM64T
.overscan: lda INTIM
        bne .overscan
        sta WSYNC
        jsr PalLines            ; PAL: 25 more lines of overscan
        jmp Frame               ; vertical sync starts on a line of its own: 262 (PAL 312) in all

; PAL only: 25 blank lines. The switch is read from a byte after song.h, as
; dasm cannot test a symbol that song.h defines further down.
PalLines:
        subroutine
        lda PalFlag
        beq .ntsc
        ldx #25
        jmp BlankLines
.ntsc:  rts

; X lines with an empty playfield.
BlankLines:
        subroutine
        lda #0
        sta PF1
        sta PF2
.line:  sta WSYNC
        dex
        bne .line
        rts

; X lines of the bar for volume Y (0-15).
BarLines:
        subroutine
        sta WSYNC
        lda BarPF1,y
        sta PF1
        lda BarPF2,y
        sta PF2
        dex
.line:  sta WSYNC
        dex
        bne .line
        rts

; ---- The music: called once a frame ------------------------------------------
PlayFrame:
        subroutine
        lda rowFrames
        bne .sameRow
        lda fracSum             ; a row lasts ROWFRAMES frames, one more when the
        clc                     ; fractions add up to a whole frame
        adc #FRACTION
        sta fracSum
        lda #ROWFRAMES          ; (255 and a carry give 0: 256 frames)
        adc #0
        sta rowFrames

        lda rowIndex
        bne .rows
        ; A new song step: both channels take their next entry.
        ldx #0
        jsr StartStep
        ldx #1
        jsr StartStep
        lda barCount
        cmp #HATFROM
        bcc .countBar
        lda #1                  ; from bar HATFROM on
        sta hatOn
.countBar:
        lda barCount
        cmp #255
        beq .rows
        inc barCount

.rows:  ldx #0
        jsr PlayRow
        lda #0
        sta hatActive
        lda hatOn
        beq .channel2
        lda rowIndex            ; hi-hat step = rowIndex: byte rowIndex/8, bit 7 - rowIndex%8
        lsr
        lsr
        lsr
        tay
        lda rowIndex
        and #7
        tax
        lda hatPattern,y
        and BitMask,x
        beq .channel2
        sta hatActive
        lda #HATSOUND
        sta AUDC1
        lda #HATPITCH
        sta AUDF1
        lda #HATVOLUME & 15
        sta hatLevel
        jmp .nextRow
.channel2:
        ldx #1
        jsr PlayRow
.nextRow:
        lda rowIndex
        clc
        adc #1
        and #31
        sta rowIndex

.sameRow:
        dec rowFrames
        lda hatActive
        beq .done
        lda hatLevel
        sta AUDV1
        sta shownVol+1
        beq .done
        dec hatLevel
.done:  rts

; Channel X takes the next entry of its song order. At the end marker (255) the
; order starts again; an order that holds nothing but the marker plays silence.
StartStep:
        subroutine
        lda songLo,x
        sta ptr
        lda songHi,x
        sta ptr+1
        ldy #0
        lda (ptr),y
        cmp #255
        bne .entry
        lda SongStartLo,x
        sta songLo,x
        sta ptr
        lda SongStartHi,x
        sta songHi,x
        sta ptr+1
        lda (ptr),y
        cmp #255
        beq .silent
.entry: inc songLo,x
        bne .pick
        inc songHi,x
.pick:  ; A = entry number n
        ldy #0
        sty ptr+1
        cmp #128
        bcs .lower
        cmp #HLIMIT
        bcs .silent             ; past the end of patternArrayH
        asl
        rol ptr+1
        asl
        rol ptr+1
        asl
        rol ptr+1
        clc
        adc #<patternArrayH
        sta entryLo,x
        lda ptr+1
        adc #>patternArrayH
        sta entryHi,x
        rts
.lower: and #$7F                ; patternArrayL + 8 * (n - 128)
        asl
        rol ptr+1
        asl
        rol ptr+1
        asl
        rol ptr+1
        clc
        adc #<patternArrayL
        sta entryLo,x
        lda ptr+1
        adc #>patternArrayL
        sta entryHi,x
        rts
.silent:
        lda #<SilentEntry
        sta entryLo,x
        lda #>SilentEntry
        sta entryHi,x
        rts

; Channel X plays row rowIndex of its current step.
PlayRow:
        subroutine
        lda entryLo,x
        sta ptr
        lda entryHi,x
        sta ptr+1
        lda rowIndex            ; chain rowIndex/8, its address at offset 2 * chain
        lsr
        lsr
        and #%00000110
        tay
        lda (ptr),y
        pha
        iny
        lda (ptr),y
        sta ptr+1
        pla
        sta ptr
        ora ptr+1
        beq .mute               ; address 0: a "word" line with a missing chain
        lda rowIndex
        and #7
        tay
        lda (ptr),y
        cmp #255
        beq .mute
        pha
        and #%00011111          ; pitch code -> frequency divider
        sta AUDF0,x
        pla
        lsr
        lsr
        lsr
        lsr
        lsr
        tay                     ; sound slot
        lda soundTypeArray,y
        sta AUDC0,x
        lda soundTurnArray,y
        cmp #13
        bcc .volume
        lda #12                 ; steps past 12 are as quiet as 12
.volume: tay
        lda VolumeTable,y
        sta AUDV0,x
        sta shownVol,x
        rts
.mute:  lda #0
        sta AUDV0,x
        sta shownVol,x
        rts

; ---- Tables -------------------------------------------------------------------
; Volume step 0 (loudest) to 12 (silent) -> AUDV.
VolumeTable:
        byte 15,14,13,11,10,9,8,6,5,4,3,1,0
BitMask:
        byte $80,$40,$20,$10,$08,$04,$02,$01
SongStartLo:
        byte <song1,<song2
SongStartHi:
        byte >song1,>song2
; Bar width for AUDV 0-15: PF2 fills from the middle, then PF1 outwards.
BarPF2:
        byte $00,$80,$C0,$E0,$F0,$F8,$FC,$FE,$FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
BarPF1:
        byte $00,$00,$00,$00,$00,$00,$00,$00,$00,$01,$03,$07,$0F,$1F,$3F,$7F
; Played for a song step whose entry is missing.
SilentEntry:
        word SilentChain,SilentChain,SilentChain,SilentChain
SilentChain:
        byte 255,255,255,255,255,255,255,255

; ---- The song -----------------------------------------------------------------
        include "song.h"

PalFlag:
        ifconst PAL
        byte 1
        else
        byte 0
        endif

; A song that does not fit stops the assembly with a plain message, not
; with the assembler's "Origin Reverse-indexed" at the vectors.
        if * > $FFFA
            echo "song.h is too large: the ROM is", [* - $FFFA]d, "bytes over its 4 KB"
            err
        endif

; ---- Vectors ------------------------------------------------------------------
        org $FFFA
        word Reset              ; NMI
        word Reset              ; RESET
        word Reset              ; IRQ
