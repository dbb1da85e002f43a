# The SNMP codec beside net-snmp's library (the reference), encoding the
# poll's seven-binding GetRequest and decoding a typical reply in one run.
find_package(PkgConfig REQUIRED)
pkg_check_modules(NETSNMP REQUIRED IMPORTED_TARGET netsnmp)
add_executable(snmp_codec_bench ${CMAKE_CURRENT_LIST_DIR}/snmp_codec_bench.cpp)
target_link_libraries(snmp_codec_bench PRIVATE plovex_snmp benchmark::benchmark PkgConfig::NETSNMP)
