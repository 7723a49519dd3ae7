"""Puts the demo show into the user's OBS configuration without touching what is there:
the scene collection only if it does not exist yet, the preset file only if CurtainUp has
none, and global.ini only on a machine where OBS never ran."""

import os
import sys

import demo_show


def main():
    config_dir = os.path.join(os.path.expanduser("~"), ".config", "obs-studio")
    media = os.path.join(os.path.expanduser("~"), ".local", "share", "curtainup-demo")

    scenes_file = os.path.join(config_dir, "basic", "scenes", demo_show.COLLECTION + ".json")
    if not os.path.exists(scenes_file):
        demo_show.write_json(scenes_file, demo_show.collection(media))
        print("demo: scene collection '%s' written" % demo_show.COLLECTION)

    config_file = os.path.join(config_dir, "plugin_config", "curtainup", "config.json")
    if not os.path.exists(config_file):
        demo_show.write_json(config_file, demo_show.config())
        print("demo: preset '%s' written" % demo_show.PRESET)
    else:
        print("demo: keeping your CurtainUp presets in %s" % config_file)

    global_ini = os.path.join(config_dir, "global.ini")
    if not os.path.exists(global_ini):
        os.makedirs(config_dir, exist_ok=True)
        with open(global_ini, "w", encoding="utf-8") as f:
            f.write("[General]\nFirstRun=true\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
