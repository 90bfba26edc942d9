# Writes the page's worker, run by the build:
#   cmake -DDIR=<folder> -DTEMPLATE=<sw.js.in> -DVERSION=<1.00> -P make_worker.cmake
# DIR/sw.js's cache lists every file of the folder and is named after their
# contents.
file(GLOB_RECURSE _files RELATIVE ${DIR} ${DIR}/*)
list(REMOVE_ITEM _files sw.js)
list(SORT _files)

set(_digests "")
set(_names "'./'")
foreach(_file IN LISTS _files)
  file(SHA256 ${DIR}/${_file} _digest)
  string(APPEND _digests "${_file} ${_digest}\n")
  string(APPEND _names ", '${_file}'")
endforeach()
string(SHA256 _digest "${_digests}")
string(SUBSTRING ${_digest} 0 16 _digest)
set(TAVRIN_CACHE "tavrin-${VERSION}-${_digest}")
set(TAVRIN_FILES "${_names}")
configure_file(${TEMPLATE} ${DIR}/sw.js @ONLY)
