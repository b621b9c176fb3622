# Initial cache for DCMTK's i686 configure when it runs no program
# (DCMTK_NO_TRY_RUN); arith.h is given apart (arith-i686.h).
#
# The only checks that run a program in the configure as scripts/
# build-dcmdjpeg.sh calls it are the STL checks (HAVE_STL_*_TEST_RESULT) and
# arith.h; the iconv checks are off with DCMTK_WITH_ICONV=OFF. The STL checks
# run only when DCMTK_ENABLE_STL is on, and the real configure leaves it off
# (DCMTK uses its own containers): no C++11 is asked of the compiler, so
# DCMTK infers no STL. It is pinned off here, so that no STL check is asked
# and none answers "no" unlike a real configure.
set(DCMTK_ENABLE_STL OFF CACHE BOOL "Use DCMTK's own containers, as the real configure does")
