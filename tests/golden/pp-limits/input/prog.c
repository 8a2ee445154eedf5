int a = 1;
#include "a_name_that_is_longer_than_39_characters.h"
#include "self.h"
#define ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
#IF ON 1
int deep = 1;
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
#ENDIF
int z = 2;
