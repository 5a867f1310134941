; ostrak music engine: plays the two-channel song of song.h on the Atari 2600,
; with two bars for the channels' volumes. The music is player.asm's; this is
; the screen around it. Standard 4 KB cartridge image, NTSC timing (262
; lines, about 60 frames a second); with "PAL equ 1" in song.h, PAL timing
; (312 lines, about 50 frames a second).
; Assemble with:  dasm engine.asm -f3 -osong.bin
; The data format and the timing are described in README.md beside this file.

        processor 6502

; ---- TIA and RIOT registers (only those used; player.asm has the sound's) ----
VSYNC   equ $00
VBLANK  equ $01
WSYNC   equ $02
COLUPF  equ $08
COLUBK  equ $09
CTRLPF  equ $0A
PF0     equ $0D
PF1     equ $0E
PF2     equ $0F
INTIM   equ $284
TIM64T  equ $296

; ---- RAM: the player's 16 bytes from $80, then the screen's ----------------
shownVol     equ $90    ; AUDV of each channel, for the bars on screen
MUSICSHOWVOL equ shownVol ; the player writes each AUDV there too

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

        jsr MusicInit           ; the first frame starts step 0, row 0

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

        jsr MusicPlay

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

; ---- Tables -------------------------------------------------------------------
; Bar width for AUDV 0-15: PF2 fills from the middle, then PF1 outwards.
BarPF2:
        byte $00,$80,$C0,$E0,$F0,$F8,$FC,$FE,$FF,$FF,$FF,$FF,$FF,$FF,$FF,$FF
BarPF1:
        byte $00,$00,$00,$00,$00,$00,$00,$00,$00,$01,$03,$07,$0F,$1F,$3F,$7F

; ---- The music ---------------------------------------------------------------
        include "player.asm"

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
