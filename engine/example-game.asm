; example-game.asm: a small game with ostrak's music under it, to start a
; game from. A sprite moves with the joystick; the fire button fires a short
; sound effect that takes channel 2 for a moment while the music keeps its
; time (channel 1 plays on, channel 2 comes back at the music's next row).
; Assemble with:  dasm example-game.asm -f3 -ogame.bin   (or: compile.bat game)
; NTSC frames of 262 lines; with "PAL equ 1" in song.h, PAL frames of 312.

        processor 6502

; ---- TIA and RIOT registers (player.asm has the sound's) ---------------------
VSYNC   equ $00
VBLANK  equ $01
WSYNC   equ $02
COLUP0  equ $06
COLUBK  equ $09
RESP0   equ $10
GRP0    equ $1B
HMP0    equ $20
HMOVE   equ $2A
INPT4   equ $0C             ; bit 7 clear while the fire button is held
SWCHA   equ $280            ; joystick: bits 7-4 right, left, down, up (clear while pushed)
INTIM   equ $284
TIM64T  equ $296

; ---- RAM ----------------------------------------------------------------------
MUSICRAM equ $E8            ; the music's 16 bytes: $E8-$F7, below the stack
playerX  equ $80            ; the sprite's column, 0-151
playerY  equ $81            ; its first line, 0-184
fxTime   equ $82            ; frames left of the sound effect; 0: none
fxWait   equ $83            ; frames until the fire button may start another

SPRITEH  equ 8              ; lines of the sprite
FXFRAMES equ 12             ; frames the effect sounds
FXREPEAT equ 32             ; frames from one effect to the next while fire is held

        seg code
        org $F000

; The song and the music first: the player works wherever they stand.
        include "song.h"
        include "player.asm"

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
        lda #76
        sta playerX
        lda #88
        sta playerY
        lda #$1E                ; yellow
        sta COLUP0
        jsr MusicInit           ; the song from its start

Frame:
        subroutine
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

        jsr MusicPlay           ; once a frame, before the game's own sound
        jsr Effect
        jsr Move
        lda playerX
        jsr SetX
        sta WSYNC
        sta HMOVE

.vblank: lda INTIM
        bne .vblank
        sta WSYNC
        jsr PalLines            ; PAL: 25 more lines of vertical blank
        lda #0
        sta VBLANK

        ; 192 visible lines: the sprite from line playerY
        ldy #0
.line:  tya
        sec
        sbc playerY
        cmp #SPRITEH
        bcs .blank
        tax
        lda Sprite,x
        .byte $2C               ; (bit: skips the lda #0)
.blank: lda #0
        sta GRP0
        iny
        sta WSYNC
        cpy #192
        bne .line

        lda #2
        sta VBLANK
        lda #36                 ; 30 lines of overscan (35 * 64 cycles, then WSYNC)
        sta TIM64T
.overscan: lda INTIM
        bne .overscan
        sta WSYNC
        jsr PalLines            ; PAL: 25 more lines of overscan
        jmp Frame               ; 262 lines in all (PAL 312)

; PAL only: 25 blank lines.
PalLines:
        subroutine
        ifconst PAL
        ldx #25
.line:  sta WSYNC
        dex
        bne .line
        endif
        rts

; The fire button fires a rising tone on channel 2; held, it fires again
; every FXREPEAT frames. While it sounds the music leaves channel 2 to the
; game (MusicFx) and keeps its time; at its end the game silences the
; channel and hands it back.
Effect:
        subroutine
        lda fxWait
        beq .ready
        dec fxWait
        bne .sound
.ready: bit INPT4
        bmi .sound              ; not held
        lda #FXFRAMES
        sta fxTime
        lda #FXREPEAT
        sta fxWait
        lda #MUSIC_FX2          ; channel 2 is the game's
        sta MusicFx
.sound: lda fxTime
        beq .done
        dec fxTime
        beq .end
        lda #4                  ; a pure tone, rising as its divider falls
        sta AUDC1
        lda fxTime
        sta AUDF1
        lda #10
        sta AUDV1
        rts
.end:   lda #0
        sta AUDV1
        sta MusicFx             ; the music's again, from its next row
.done:  rts

; The joystick moves the sprite a pixel a frame, within the screen.
Move:
        subroutine
        lda SWCHA
        bmi .left
        ldx playerX
        cpx #151
        bcs .left
        inc playerX
.left:  asl
        bmi .down
        ldx playerX
        beq .down
        dec playerX
.down:  asl
        bmi .up
        ldx playerY
        cpx #192 - SPRITEH
        bcs .up
        inc playerY
.up:    asl
        bmi .done
        ldx playerY
        beq .done
        dec playerY
.done:  rts

; Sprite 0 to column A (0-151): coarse by 15 pixels a loop, fine by HMP0;
; the caller's HMOVE on the next line applies it.
SetX:
        subroutine
        sta WSYNC
        sec
.coarse: sbc #15
        bcs .coarse
        eor #7
        asl
        asl
        asl
        asl
        sta HMP0
        sta RESP0
        rts

Sprite:
        byte %00011000
        byte %00111100
        byte %01111110
        byte %11011011
        byte %11111111
        byte %00100100
        byte %01011010
        byte %10100101

; A song that does not fit beside the game stops the assembly with a plain
; message.
        if * > $FFFC
            echo "example-game.asm: song.h is too large to fit beside the game: the ROM is", [* - $FFFC]d, "bytes over its 4 KB"
            err
        endif

        org $FFFC
        word Reset              ; RESET
        word Reset              ; IRQ
