list(APPEND CURTAINUP_CORE_SOURCES
  module/cuebox.cpp
  module/cuebox.h
  module/module_host.cpp
  module/module_host.h
  module/procedures.cpp
  module/procedures.h)
