# windows_path_literal(OUT path): the path as Windows code sees it (drive Z:
# under Wine when cross-built), escaped for use inside a C string literal.
function(windows_path_literal out path)
  if(CMAKE_CROSSCOMPILING AND NOT path MATCHES "^[A-Za-z]:")
    set(path "Z:${path}")
  endif()
  string(REPLACE "/" "\\\\" path "${path}")
  set(${out} "${path}" PARENT_SCOPE)
endfunction()
