src/prog.000 src/prog.001 src/prog.002 src/prog.003 src/prog.004 src/prog.err src/prog.lst src/prog.h src/funct1.txt: src/prog.c \
 lib/Sys10.c \
 lib/common.h
