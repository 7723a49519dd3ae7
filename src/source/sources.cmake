list(APPEND CURTAINUP_CORE_SOURCES
  source/preset_picture.cpp)
