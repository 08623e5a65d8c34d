/* libm-alias-double.h -- nothing of it is needed here (see math_private.h). */
