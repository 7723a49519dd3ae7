list(APPEND CURTAINUP_CORE_SOURCES
  settings/preset.cpp
  settings/preset.h
  settings/preset_json.cpp
  settings/config.cpp
  settings/config.h
  settings/data_fields.cpp
  settings/data_fields.h
  settings/preset_store.cpp
  settings/preset_store.h
  settings/running_show.cpp
  settings/running_show.h)
