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
;   ROM    401 bytes (368 of code, 33 of tables)
;   RAM    16 bytes from MUSICRAM; MusicPtr (2) is scratch within a call
;   cycles at most 359 a call, its JSR and RTS included (under 5 lines);
;          28 within a row (56 while a hi-hat falls), about 250 on a new
;          row, up to 359 where a channel takes its next chain
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
MusicOrder  equ MUSICRAM        ; 2 x 2: each channel's song order byte of the step it plays
MusicChain  equ MUSICRAM+4      ; 2 x 2: each channel's chain, its 8 row bytes
MusicPtr    equ MUSICRAM+8      ; 2: scratch within a call (a game may use it in between)
MusicRow    equ MUSICRAM+10     ; the row of the song step, 0-31
MusicFrames equ MUSICRAM+11     ; frames left of the row
MusicFrac   equ MUSICRAM+12     ; the rows' fractions of a frame so far, in 256ths
MusicWait   equ MUSICRAM+13     ; song steps until the hi-hat starts
MusicHat    equ MUSICRAM+14     ; $80 + volume while this row's channel 2 is a hi-hat
MusicFx     equ MUSICRAM+15     ; the game's: MUSIC_FX1 takes channel 1, MUSIC_FX2 channel 2
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
; Entries 0-127 live in patternArrayH; numbers past its end play silence.
HENTRIES    equ [patternArrayL - patternArrayH] / 8
HLIMIT      equ [HENTRIES < 128] * HENTRIES + [HENTRIES >= 128] * 128
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

; One channel's row byte in A to its registers: the sound slot (bits 7-5)
; gives AUDC and, through its volume step, AUDV; the pitch code (bits 4-0)
; is AUDF. 255 is silence: AUDV 0, AUDC and AUDF left as they are.
        MAC MUSICROW            ; {1}: the channel, 0 or 1
        cmp #255
        beq .mute{1}
        tax
        and #%00011111
        sta AUDF0+{1}
        txa
        lsr
        lsr
        lsr
        lsr
        lsr
        tax                     ; sound slot
        lda soundTypeArray,x
        sta AUDC0+{1}
        lda soundTurnArray,x
        cmp #13
        bcs .mute{1}            ; steps past 12 are as quiet as 12
        tax
        lda MusicVolume,x
        .byte $2C               ; (bit: skips the lda #0)
.mute{1}: lda #0
        sta AUDV0+{1}
        ifconst MUSICSHOWVOL
        sta MUSICSHOWVOL+{1}    ; the demo's volume bars
        endif
        ENDM

MusicCode:

; ---- MusicInit: song step 0, row 0 at the next MusicPlay ---------------------
MusicInit:
        subroutine
        ldx #3
.order: lda MusicSongs,x        ; each order from its top
        sta MusicOrder,x
        dex
        bpl .order
        lda #0
        sta MusicRow
        sta MusicFrac
        sta MusicHat
        sta MusicFx
        lda #HATFROM
        sta MusicWait
        lda #1
        sta MusicFrames
        inx                     ; channel 1 takes its first chain here, channel 2 in MusicPlay
        jmp MusicFetch

; ---- MusicPlay: once a frame ------------------------------------------------
MusicPlay:
        subroutine
        dec MusicFrames
        beq .row
        jmp MusicHatFrame
.row:   lda MusicOrder+1        ; 0 until MusicInit (in RAM cleared at power-on):
        beq .none               ; silence
        lda MusicFrac           ; a row lasts ROWFRAMES frames, one more when the
        clc                     ; rows' fractions add up to a whole frame
        adc #FRACTION
        sta MusicFrac
        lda #ROWFRAMES          ; (255 and a carry give 0: 256 frames)
        adc #0
        sta MusicFrames
        lda MusicRow
        and #7
        tay
        bne MusicRows
        ldx #2                  ; channel 2 takes its chain at rows 0, 8, 16 and 24;
        jmp MusicFetch          ; channel 1 took its own in the frame before
.none:  rts

; ---- A new row: both channels' row bytes (Y: the row of the chain), the hi-hat
MusicRows:
        subroutine
        bit MusicFx
        bmi .second             ; channel 1 is the game's
        lda (MusicChain),y
        MUSICROW 0
.second:
        ldx MusicWait           ; the hi-hat plays from step HATFROM on, on the
        bne .own                ; rows whose bit of hatPattern is set (row 0 is
        lda MusicRow            ; the top bit of its first byte)
        lsr
        lsr
        lsr
        tax
        lda hatPattern,x
        and MusicBits,y
        beq .own
        lda #$80 | [HATVOLUME & 15]
        sta MusicHat
        bne .next               ; channel 2's own row is skipped, not delayed
.own:   lda #0
        sta MusicHat
        bit MusicFx
        bvs .next               ; channel 2 is the game's
        lda (MusicChain+2),y
        MUSICROW 1
.next:  ldy MusicRow
        iny
        tya
        and #31
        sta MusicRow            ; the next row
        tay
        and #7
        bne MusicMoves
        tya
        bne .chain
        lda MusicWait           ; a song step ends: one nearer the hi-hat
        beq .chain
        dec MusicWait
.chain: ldx #0                  ; channel 1 takes the chain of its next row now

; ---- MusicFetch: channel X/2's chain for row MusicRow (a multiple of 8) -----
; Entry n of the song order is at patternArrayH + 8n (from 128 on at
; patternArrayL + 8(n - 128)): page n / 32 of the table, 8(n % 32) into it,
; and the chain's word 2 * row / 8 further. Each channel does it in a frame
; of its own.
MusicFetch:
        subroutine
        lda (MusicOrder,x)
        tay                     ; n
        cmp #HLIMIT
        bcs .other
        and #$E0                ; (no carry out of the shifts)
        lsr
        lsr
        lsr
        lsr
        lsr
        adc #>patternArrayH
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
        sta MusicChain+1,x
        ora MusicChain,x
        bne .done               ; address 0: a "word" line with a missing chain
.silent:
        lda #<MusicSilence
        sta MusicChain,x
        lda #>MusicSilence
        sta MusicChain+1,x
.done:  txa
        beq MusicHatFrame       ; channel 1: the end of its frame
        ldy #0                  ; channel 2: on to row 0, 8, 16 or 24
        jmp MusicRows
.other: cmp #128
        bcc .silent             ; past the end of patternArrayH
        cmp #255
        beq .silent             ; an order of nothing but its end marker
        and #$E0                ; from 128 on: patternArrayL - 1024 + 8n
        lsr
        lsr
        lsr
        lsr
        lsr
        adc #>[patternArrayL - 1024]
        sta MusicPtr+1
        lda MusicRow
        lsr
        lsr
        adc #<patternArrayL
        jmp .table

; Once a step is past its last chain, each order moves on in a frame of its own.
MusicMoves:
        ldx #0
        cpy #27
        beq MusicNext
        ldx #2
        cpy #29
        beq MusicNext

; ---- Every frame: a hi-hat sounds on channel 2 and falls a step ----------
MusicHatFrame:
        subroutine
        lda MusicHat
        bpl .done
        bit MusicFx
        bvs .fall               ; the game's channel: the hi-hat only keeps time
        ldx #HATSOUND
        stx AUDC1
        ldx #HATPITCH
        stx AUDF1
        and #15
        sta AUDV1
        ifconst MUSICSHOWVOL
        sta MUSICSHOWVOL+1
        endif
.fall:  and #15
        beq .done
        dec MusicHat
.done:  rts

; ---- MusicNext: channel X/2's order moves to the next step's entry ---------
; At its end marker it starts again from the top; an order of nothing but
; the marker stays on it and plays silence.
MusicNext:
        subroutine
        lda (MusicOrder,x)
        cmp #255
        beq MusicHatFrame
        inc MusicOrder,x
        bne .read
        inc MusicOrder+1,x
.read:  lda (MusicOrder,x)
        cmp #255
        bne MusicHatFrame
        lda MusicSongs,x
        sta MusicOrder,x
        lda MusicSongs+1,x
        sta MusicOrder+1,x
        bne MusicHatFrame       ; (song.h is never in page 0)

; ---- Tables -------------------------------------------------------------------
; Volume step 0 (loudest) to 12 (silent) -> AUDV.
MusicVolume:
        byte 15,14,13,11,10,9,8,6,5,4,3,1,0
MusicBits:
        byte $80,$40,$20,$10,$08,$04,$02,$01
MusicSongs:
        word song1,song2
; The chain of a missing entry or chain.
MusicSilence:
        byte 255,255,255,255,255,255,255,255
MusicCodeEnd:
