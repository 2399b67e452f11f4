add_library(qirt_settings STATIC formatheadersettings.cpp)
target_link_libraries(qirt_settings PUBLIC persist)

korven_test(qirt_settings_test
  SOURCES formatheadersettings_test.cpp
  LIBS qirt_settings persist_test_support)
