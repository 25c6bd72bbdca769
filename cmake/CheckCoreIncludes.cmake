# Run with -DDIR=<core source dir>. Fails when a file includes a header that is
# neither standard C++, standard C (<cxxx> or <xxx.h> from the C standard),
# {fmt}, expat, nor a quoted header of the core itself. libosmium is heavy: its
# headers are allowed in the .cpp files of the OSM reader and in the road map
# builder only, and so are those of zlib and bzip2, which unpack the files it
# reads. SQLite's header is allowed in the .cpp files of the road map only.
set(allowed_std
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
  cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine csetjmp
  csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception
  execution expected filesystem format forward_list fstream functional future initializer_list iomanip
  ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource mutex new
  numbers numeric optional ostream queue random ranges ratio regex scoped_allocator semaphore set
  shared_mutex source_location span sstream stack stdexcept stop_token streambuf string string_view
  syncstream system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set
  utility valarray variant vector version)
file(GLOB_RECURSE sources "${DIR}/*.h" "${DIR}/*.hpp" "${DIR}/*.cpp")
set(bad "")
foreach(f IN LISTS sources)
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
      set(h "${CMAKE_MATCH_1}")
      list(FIND allowed_std "${h}" idx)
      if(h MATCHES "^(osmium/|zlib\\.h$|bzlib\\.h$)" AND f MATCHES "/osm/[^/]*\\.cpp$")
        continue()
      endif()
      if((h MATCHES "^osmium/" AND f MATCHES "/roads/RoadMapBuilder\\.cpp$")
         OR (h STREQUAL "sqlite3.h" AND f MATCHES "/roads/[^/]*\\.cpp$"))
        continue()
      endif()
      if(idx EQUAL -1 AND NOT h MATCHES "^fmt/" AND NOT h STREQUAL "expat.h")
        string(APPEND bad "  ${f}: <${h}>\n")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(h "${CMAKE_MATCH_1}")
      get_filename_component(fdir "${f}" DIRECTORY)
      if(NOT EXISTS "${fdir}/${h}" AND NOT EXISTS "${DIR}/${h}")
        string(APPEND bad "  ${f}: \"${h}\" is not a core header\n")
      endif()
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "The core may include only standard, {fmt} and core headers:\n${bad}")
endif()
