; ostrak music player: plays the two-channel song of song.h inside any dasm
; program for the Atari 2600. The music logic of engine.asm, without its
; screen; engine.asm and example-game.asm show it in use.
;
;   MUSICRAM equ $E8            ; optional, before the include: where its 16
;                               ; bytes of RAM go ($80 when absent)
;           include "player.asm"
;           include "song.h"    ; before or after the player, anywhere in the ROM
;
;           jsr MusicInit       ; once, to start the song (again)
;           jsr MusicPlay       ; once a frame, in the vertical blank or overscan
;
; MusicPlay writes only AUDC0/1, AUDF0/1, AUDV0/1 and its own RAM. It never
; touches WSYNC, the timer or the stack beyond the JSR that calls it, and
; needs no alignment. What it costs, measured cycle by cycle on real songs:
;   ROM    333 bytes (302 of code, 31 of tables)
;   RAM    16 bytes from MUSICRAM; MusicPtr (2) is scratch within a call
;   cycles at most 386 a call, its JSR and RTS included (about 5 lines);
;          29 within a row (57 while a hi-hat falls), about 285 on a new
;          row, up to 386 where a channel takes its next chain
; (ostrak's engine/README.md has the details.)
;
; Sound effects: set MusicFx to MUSIC_FX2 and channel 2 (AUDx1) is the
; game's; MUSIC_FX1 | MUSIC_FX2 gives it both. The music keeps its time
; meanwhile; set MusicFx to 0 to hand the channels back, and the music takes
; them again at its next row (a sounding hi-hat at once). Silence a channel
; (AUDV 0) when your effect ends, so nothing sounds until then.
;
; PAL is the same player: one call a frame, at the game's frame rate.

; ---- TIA registers it writes -----------------------------------------------
AUDC0   equ $15
AUDC1   equ $16
AUDF0   equ $17
AUDF1   equ $18
AUDV0   equ $19
AUDV1   equ $1A

; ---- RAM: 16 bytes from MUSICRAM --------------------------------------------
        ifnconst MUSICRAM
MUSICRAM    equ $80
        endif
; MusicInit sets the first ten from MusicStart, in this order.
MusicOrder  equ MUSICRAM        ; 2 x 2: each channel's song order byte of the step it plays
MusicRow    equ MUSICRAM+4      ; the row of the song step, 0-31
MusicFrames equ MUSICRAM+5      ; frames left of the row
MusicFrac   equ MUSICRAM+6      ; the rows' fractions of a frame so far, in 256ths
MusicWait   equ MUSICRAM+7      ; song steps until the hi-hat starts
MusicHat    equ MUSICRAM+8      ; $80 + volume while this row's channel 2 is a hi-hat
MusicFx     equ MUSICRAM+9      ; the game's: MUSIC_FX1 takes channel 1, MUSIC_FX2 channel 2
MusicChain  equ MUSICRAM+10     ; 2 x 2: each channel's chain, its 8 row bytes (page 0: silent)
MusicPtr    equ MUSICRAM+14     ; 2: scratch within a call (a game may use it in between)
MUSIC_FX1   equ $80
MUSIC_FX2   equ $40

        if MUSICRAM < $80 || MUSICRAM + 16 > $FE
            echo "player.asm: MUSICRAM is", MUSICRAM, "- its 16 bytes must lie within $80-$FD (the top two bytes of RAM hold the stack of the JSR to MusicPlay)"
            err
        endif

; ---- Values taken from song.h, made safe for the byte-sized counters --------
; A tempo below 1 would never advance; one above 255 does not fit a counter.
ROWFRAMES   equ [TEMPODELAY < 1] * 1 + [TEMPODELAY >= 1 && TEMPODELAY <= 255] * TEMPODELAY + [TEMPODELAY > 255] * 255
; The hi-hat waits at most 255 steps, so a later start means "from step 255 on".
HATFROM     equ [HATSTART > 0 && HATSTART <= 255] * HATSTART + [HATSTART > 255] * 255
; Entries that lie within patternArrayH's table (it ends where patternArrayL
; starts) are read there, up to 254 (255 ends a song order); those past it
; play silence below 128 and are read from patternArrayL from 128 on.
HENTRIES    equ [patternArrayL - patternArrayH] / 8
HLIMIT      equ [HENTRIES > 0 && HENTRIES < 255] * HENTRIES + [HENTRIES >= 255] * 255
; TEMPOFRAC, when song.h has it: 256ths of a frame that each row lasts beyond
; ROWFRAMES, carried from row to row. Where song.h comes after the player,
; dasm sees it from its second pass on (the player's references to song.h
; always make it take one); as an immediate it leaves the code the same size
; in every pass.
        ifconst TEMPOFRAC
FRACTION    equ [TEMPOFRAC > 0 && TEMPOFRAC <= 255] * TEMPOFRAC + [TEMPOFRAC > 255] * 255
        else
FRACTION    equ 0
        endif

MusicCode:

; ---- MusicPlay: once a frame ------------------------------------------------
; A new row plays channel 1, then channel 2 (or the hi-hat). Channel 2 takes
; its next chain between the two at rows 0, 8, 16 and 24; channel 1 takes its
; own after its row 7, 15, 23 or 31; the song orders move on after rows 26
; and 28. So no frame does two of these.
MusicPlay:
        subroutine
        dec MusicFrames
        bne .hat
        lda MusicOrder+1        ; 0 until MusicInit (in RAM cleared at power-on):
        bne .row                ; silence
.hat:   jmp MusicHatFrame
.row:   lda MusicFrac           ; a row lasts ROWFRAMES frames, one more when the
        clc                     ; rows' fractions add up to a whole frame
        adc #FRACTION
        sta MusicFrac
        lda #ROWFRAMES          ; (255 and a carry give 0: 256 frames)
        adc #0
        sta MusicFrames
        lda MusicRow
        and #7
        tay                     ; Y: the row of the chains
        lda #0                  ; the hi-hat plays from step HATFROM on, on the
        ldx MusicWait           ; rows whose bit of hatPattern is set (row 0 is
        bne .set                ; the top bit of its first byte)
        lda MusicRow
        lsr
        lsr
        lsr
        tax
        lda hatPattern,x
        and MusicBits,y
        beq .set
        lda #$80 | [HATVOLUME & 15]
.set:   sta MusicHat
        ldx #0
        bit MusicFx
        bmi MusicSeam           ; channel 1 is the game's
        lda (MusicChain),y
        ldy MusicChain+1
        beq MusicMute           ; a silent chain

; One channel's row byte in A to its registers (X: the channel): the sound
; slot (bits 7-5) gives AUDC and, through its volume step, AUDV; the pitch
; code (bits 4-0) is AUDF. 255 is silence: AUDV 0, AUDC and AUDF left as
; they are.
MusicDecode:
        cmp #255
        beq MusicMute
        tay
        and #%00011111
        sta AUDF0,x
        tya
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
        bcs MusicMute           ; steps past 12 are as quiet as 12
        tay
        lda MusicVolume,y
        .byte $2C               ; (bit: skips the lda #0)
MusicMute:
        lda #0
        sta AUDV0,x
        ifconst MUSICSHOWVOL
        sta MUSICSHOWVOL,x      ; the demo's volume bars
        endif
        txa
        bne MusicNextRow        ; channel 2 done
MusicSeam:
        ldx #2
        lda MusicRow
        and #7
        beq MusicFetch          ; rows 0, 8, 16, 24: channel 2's next chain first
MusicTwo:
        tay
        lda MusicFx
        asl
        ora MusicHat
        bmi MusicNextRow        ; the hi-hat, or the game's channel: channel 2's
        ldx #1                  ; own row is skipped, not delayed
        lda (MusicChain+2),y
        ldy MusicChain+3
        bne MusicDecode
        beq MusicMute           ; a silent chain

; ---- MusicInit: song step 0, row 0 at the next MusicPlay ---------------------
MusicInit:
        subroutine
        ldx #10
.init:  lda MusicStart-1,x
        sta MUSICRAM-1,x
        dex
        bne .init               ; X = 0: channel 1 takes its first chain here,
                                ; channel 2 in MusicPlay

; ---- MusicFetch: channel X/2's chain for row MusicRow (a multiple of 8) -----
; Entry n of the song order is at patternArrayH + 8n (past that table, from
; 128 on, at patternArrayL + 8(n - 128)): page n / 32 of the table, 8(n % 32)
; into it, and the chain's word 2 * row / 8 further. An entry that has no
; chains, or a chain word of 0, leaves the chain in page 0: silent rows.
MusicFetch:
        subroutine
        lda (MusicOrder,x)
        tay                     ; n
        asl
        rol
        rol
        rol
        and #7                  ; n / 32 (cpy sets the carry)
        cpy #HLIMIT
        bcc .high
        iny                     ; 255 (an order of nothing but its end marker)
        cpy #129                ; and 1-127 have no chains
        bcc .silent
        dey
        adc #>[patternArrayL - 1024 - 256] ; (the carry is set)
        sta MusicPtr+1
        lda MusicRow
        lsr
        lsr
        adc #<patternArrayL
        jmp .table
.high:  adc #>patternArrayH
        sta MusicPtr+1
        lda MusicRow
        lsr
        lsr                     ; (a multiple of 8: no carry)
        adc #<patternArrayH
.table: sta MusicPtr
        bcc .page
        inc MusicPtr+1
.page:  tya
        asl
        asl
        asl
        tay
        lda (MusicPtr),y
        sta MusicChain,x
        iny
        lda (MusicPtr),y
        .byte $2C               ; (bit: skips the lda #0)
.silent: lda #0
        sta MusicChain+1,x
        txa
        beq MusicHatFrame       ; channel 1: the end of its frame
        lda #0                  ; channel 2: on to row 0, 8, 16 or 24
        beq MusicTwo

; ---- After a new row: the next row, channel 1's next chain, the orders ----
MusicNextRow:
        subroutine
        ldy MusicRow
        iny
        tya
        and #31
        sta MusicRow            ; the next row
        bne .chain
        ldx MusicWait           ; a song step ends: one nearer the hi-hat
        beq .chain
        dec MusicWait
.chain: and #7
        bne .moves
        tax                     ; channel 1 takes the chain of its next row now
        beq MusicFetch
.moves: cpy #27                 ; once a step is past its last chain, each order
        bcc MusicHatFrame       ; moves on in a frame of its own: channel 1's
        tya                     ; when row 27 is next, channel 2's at row 29
        sbc #27
        tax
        and #$FD
        bne MusicHatFrame

; ---- MusicNext: channel X/2's order moves to the next step's entry ---------
; At its end marker it starts again from the top; an order of nothing but
; the marker stays on it and plays silence.
MusicNext:
        lda (MusicOrder,x)
        cmp #255
        beq MusicHatFrame
        inc MusicOrder,x
        bne .read
        inc MusicOrder+1,x
.read:  lda (MusicOrder,x)
        cmp #255
        bne MusicHatFrame
        lda MusicStart,x
        sta MusicOrder,x
        lda MusicStart+1,x
        sta MusicOrder+1,x

; ---- Every frame: a hi-hat sounds on channel 2 and falls a step ----------
MusicHatFrame:
        subroutine
        lda MusicHat
        bpl .done
        and #15
        bit MusicFx
        bvs .fall               ; the game's channel: the hi-hat only keeps time
        sta AUDV1
        ifconst MUSICSHOWVOL
        sta MUSICSHOWVOL+1
        endif
        ldx #HATSOUND
        stx AUDC1
        ldx #HATPITCH
        stx AUDF1
.fall:  tay
        beq .done
        dec MusicHat
.done:  rts

; ---- Tables -------------------------------------------------------------------
; Volume step 0 (loudest) to 12 (silent) -> AUDV.
MusicVolume:
        byte 15,14,13,11,10,9,8,6,5,4,3,1,0
MusicBits:
        byte $80,$40,$20,$10,$08,$04,$02,$01
; MusicInit's RAM: each order from its top, row 0 in the next frame, no
; fraction, the hi-hat's wait, no hi-hat, no sound effect.
MusicStart:
        word song1,song2
        byte 0,1,0,HATFROM,0,0
MusicCodeEnd:
