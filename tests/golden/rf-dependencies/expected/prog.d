prog.000 prog.001 prog.002 prog.003 prog.004 prog.err prog.lst prog.h funct1.txt: prog.c \
 Sys10.c \
 my\ parts.h \
 cost$$.h

Sys10.c:

my\ parts.h:

cost$$.h:
