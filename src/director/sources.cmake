list(APPEND CURTAINUP_CORE_SOURCES
  director/clock.cpp
  director/clock.h
  director/show_state.cpp
  director/show_state.h)
