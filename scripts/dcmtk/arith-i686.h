/*
 * arith.h for DCMTK built with the i686 mingw-w64 toolchain, given to a
 * configure that runs no program (DCMTK_NO_TRY_RUN) on machines that cannot
 * run 32-bit code. A normal configure makes this file by running
 * config/tests/arith.cc, which prints std::numeric_limits of the target and
 * some measured properties. The answers, and why each holds for i686:
 *
 * - DIGITS10: char 8 bits (2), short 16 bits (4), int 32 bits (9); long is
 *   32 bits on Windows in both 32- and 64-bit code (9). FLOAT/DOUBLE
 *   MAX_DIGITS10 9 and 17: float and double are IEEE 754 binary32 and
 *   binary64 on every x86 target.
 * - Integer TRAPS: measured by dividing by zero; integer division by zero
 *   raises an exception on every x86 processor, in 32- as in 64-bit mode.
 *   MODULO: the largest value plus one wraps to the smallest (two's
 *   complement), likewise.
 * - FLOAT/DOUBLE TRAPS false: measured the same way; Windows starts every
 *   thread with all floating-point exceptions masked, in the x87 control word
 *   as in MXCSR, so dividing by zero gives infinity.
 * - INFINITY, QUIET_NAN, SIGNALING_NAN, DENORM_MIN: IEEE 754 bit patterns,
 *   stored little-endian; IS_IEC559 true; HAS_DENORM: the smallest subnormal
 *   classifies as subnormal.
 * - TINYNESS_BEFORE and HAS_DENORM_LOSS are where the x87 unit that i686 code
 *   uses could differ from the SSE unit of x86_64, through its wider
 *   registers. Both are measured as the underflow flag after a product (the
 *   largest subnormal times 1 + epsilon) and a quotient (3 times the smallest
 *   subnormal, halved) that are stored into volatile float or double. The
 *   exact results are tiny and not representable, so the store rounds them,
 *   and a tiny inexact result raises underflow on the x87 store as in SSE.
 * - ROUND_STYLE 1 (FLT_ROUNDS, to nearest): the rounding mode every Windows
 *   thread starts in, in both units.
 *
 * The file below is the one the real i686 configure generated through 32-bit
 * Wine, byte for byte after this comment; it is also byte-identical to the
 * x86_64 configure's. Where 32-bit code runs, the test
 * dcmtk.ConfigureWithoutRunningMatchesTheRealOne compares it with a real
 * configure again on every run.
 */
#ifndef CONFIG_ARITH_H
#define CONFIG_ARITH_H

#define DCMTK_SIGNED_CHAR_DIGITS10 2
#define DCMTK_UNSIGNED_CHAR_DIGITS10 2
#define DCMTK_SIGNED_SHORT_DIGITS10 4
#define DCMTK_UNSIGNED_SHORT_DIGITS10 4
#define DCMTK_SIGNED_INT_DIGITS10 9
#define DCMTK_UNSIGNED_INT_DIGITS10 9
#define DCMTK_SIGNED_LONG_DIGITS10 9
#define DCMTK_UNSIGNED_LONG_DIGITS10 9
#define DCMTK_FLOAT_MAX_DIGITS10 9
#define DCMTK_DOUBLE_MAX_DIGITS10 17
#define DCMTK_CHAR_TRAPS OFTrue
#define DCMTK_CHAR_MODULO OFTrue
#define DCMTK_SIGNED_CHAR_TRAPS OFTrue
#define DCMTK_SIGNED_CHAR_MODULO OFTrue
#define DCMTK_UNSIGNED_CHAR_TRAPS OFTrue
#define DCMTK_UNSIGNED_CHAR_MODULO OFTrue
#define DCMTK_SIGNED_SHORT_TRAPS OFTrue
#define DCMTK_SIGNED_SHORT_MODULO OFTrue
#define DCMTK_UNSIGNED_SHORT_TRAPS OFTrue
#define DCMTK_UNSIGNED_SHORT_MODULO OFTrue
#define DCMTK_SIGNED_INT_TRAPS OFTrue
#define DCMTK_SIGNED_INT_MODULO OFTrue
#define DCMTK_UNSIGNED_INT_TRAPS OFTrue
#define DCMTK_UNSIGNED_INT_MODULO OFTrue
#define DCMTK_SIGNED_LONG_TRAPS OFTrue
#define DCMTK_SIGNED_LONG_MODULO OFTrue
#define DCMTK_UNSIGNED_LONG_TRAPS OFTrue
#define DCMTK_UNSIGNED_LONG_MODULO OFTrue
#define DCMTK_FLOAT_TRAPS OFFalse
#define DCMTK_DOUBLE_TRAPS OFFalse
#define DCMTK_FLOAT_HAS_INFINITY OFTrue
#define DCMTK_FLOAT_INFINITY *OFreinterpret_cast( const float*, "\000\000\200\177" )
#define DCMTK_DOUBLE_HAS_INFINITY OFTrue
#define DCMTK_DOUBLE_INFINITY *OFreinterpret_cast( const double*, "\000\000\000\000\000\000\360\177" )
#define DCMTK_FLOAT_HAS_QUIET_NAN OFTrue
#define DCMTK_FLOAT_QUIET_NAN *OFreinterpret_cast( const float*, "\000\000\300\177" )
#define DCMTK_DOUBLE_HAS_QUIET_NAN OFTrue
#define DCMTK_DOUBLE_QUIET_NAN *OFreinterpret_cast( const double*, "\000\000\000\000\000\000\370\177" )
#define DCMTK_FLOAT_HAS_SIGNALING_NAN OFTrue
#define DCMTK_FLOAT_SIGNALING_NAN *OFreinterpret_cast( const float*, "\001\000\200\177" )
#define DCMTK_DOUBLE_HAS_SIGNALING_NAN OFTrue
#define DCMTK_DOUBLE_SIGNALING_NAN *OFreinterpret_cast( const double*, "\001\000\000\000\000\000\360\177" )
#define DCMTK_FLOAT_IS_IEC559 OFTrue
#define DCMTK_DOUBLE_IS_IEC559 OFTrue
#define DCMTK_FLOAT_HAS_DENORM OFdenorm_present
#define DCMTK_FLOAT_DENORM_MIN *OFreinterpret_cast( const float*, "\001\000\000\000" )
#define DCMTK_DOUBLE_HAS_DENORM OFdenorm_present
#define DCMTK_DOUBLE_DENORM_MIN *OFreinterpret_cast( const double*, "\001\000\000\000\000\000\000\000" )
#define DCMTK_FLOAT_TINYNESS_BEFORE OFTrue
#define DCMTK_DOUBLE_TINYNESS_BEFORE OFTrue
#define DCMTK_FLOAT_HAS_DENORM_LOSS OFTrue
#define DCMTK_DOUBLE_HAS_DENORM_LOSS OFTrue
#define DCMTK_ROUND_STYLE 1

#endif // CONFIG_ARITH_H
