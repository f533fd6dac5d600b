# index.html: the page (PAGE) with the generated windows (WINDOWS) in place
# of its "the generated windows" comment, written to OUT.
cmake_minimum_required(VERSION 3.25)
file(READ ${PAGE} page)
file(READ ${WINDOWS} windows)
string(REPLACE "<!-- the generated windows -->" "${windows}" page "${page}")
file(WRITE ${OUT} "${page}")
