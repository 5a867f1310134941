; OPTIMISED OUTPUT (REM) at 06:42:31

; song.h test: three CA chains share their bytes
    TEMPODELAY = 3

CA0
	byte %11000010  ;0|F-6|14
	byte %11000011  ;1|E-6|14
	byte %11000100  ;2|D#6|14
	byte %00111001  ;3|F#4|3
	byte %00111001  ;4|...|0
	byte %00111001  ;5|...|0
	byte %00111001  ;6|...|0
	byte %00111001  ;7|...|0
	byte %00000000  ; not imp yet

CA1
	byte %00010011  ;8|C-5|4
	byte %00010011  ;9|...|0
	byte %11011100  ;10|D#4|1
	byte %11000111  ;11|C-6|1
	byte %11000111  ;12|...|0
	byte %11100111  ;13|B-3|3
	byte %11100111  ;14|===|0
	byte %01001101  ;15|F#5|7
	byte %00000000  ; not imp yet

;opt;25  CA2
;opt;26  	byte %11000010  ;16|F-6|14
;opt;27  	byte %11000011  ;17|E-6|14
;opt;28  	byte %11000100  ;18|D#6|14
;opt;29  	byte %00111001  ;19|F#4|3
;opt;30  	byte %00111001  ;20|...|0
;opt;31  	byte %00111001  ;21|...|0
;opt;32  	byte %00111001  ;22|...|0
;opt;33  	byte %00111001  ;23|...|0
;opt;34  	byte %00000000  ; not imp yet

;opt;36  CA3
;opt;37  	byte %11000010  ;0|F-6|14
;opt;38  	byte %11000011  ;1|E-6|14
;opt;39  	byte %11000100  ;2|D#6|14
;opt;40  	byte %00111001  ;3|F#4|3
;opt;41  	byte %00111001  ;4|...|0
;opt;42  	byte %00111001  ;5|...|0
;opt;43  	byte %00111001  ;6|...|0
;opt;44  	byte %00111001  ;7|...|0
;opt;45  	byte %00000000  ; not imp yet

CA4
    byte %11000010  ;0|F-6|14
    byte %11000011  ;1|E-6|14
    byte %11000100  ;2|D#6|14
    byte %00111001  ;3|F#4|3
    byte %00111001  ;4|...|0
    byte %00111001  ;5|...|0
    byte %00111001  ;6|...|0
    byte %00111001  ;7|...|0
    byte %00000000  ; not imp yet

	word CA0,CA1,CA2,CA3 ;1
