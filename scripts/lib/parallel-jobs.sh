# Sourced by the scripts that build or test: how many jobs `cmake --build`
# and ctest run at once, set in this one place. Two suits a two-core machine
# shared with other work; set the variables beforehand to use more.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-2}"
