# Run by the build (cmake -P): the forum's host header of the program the
# end-to-end tests build for a forum of their own, from app/forum_host.h.in
# and the host the test wrote into HOST_FILE. Touched even when unchanged, so
# the build sees it newer than the host it was made from.
file(STRINGS ${HOST_FILE} AUTOLABEL_FORUM_HOST LIMIT_COUNT 1)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
file(TOUCH ${OUTPUT})
