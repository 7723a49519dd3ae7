list(APPEND CURTAINUP_CORE_SOURCES
  module/cuebox.cpp
  module/cuebox.h
  module/hotkeys.cpp
  module/hotkeys.h
  module/module_alive.cpp
  module/module_alive.h
  module/module_host.cpp
  module/module_host.h
  module/procedures.cpp
  module/procedures.h
  module/source_rename.cpp
  module/source_rename.h)
