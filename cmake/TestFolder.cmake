# Included by each tests/<folder>/CMakeLists.txt after it sets TEST_LIBS: every
# *_test.cpp becomes its own executable, so one broken file does not stop the others.
# Files under support/ are shared by every test of the folder.
file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
file(GLOB _support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/support/*.cpp)
get_filename_component(_folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
set(_libs)
foreach(_l ${TEST_LIBS})
  if(TARGET ${_l})
    list(APPEND _libs ${_l})
  endif()
endforeach()
foreach(_t ${_tests})
  get_filename_component(_name ${_t} NAME_WE)
  sonara_add_test(${_folder}_${_name} SOURCES ${_t} ${_support} LIBS ${_libs})
endforeach()
