"""Puts the demo show into the user's OBS configuration without touching what is there:
the scene collection only if it does not exist yet, the preset file only if CurtainUp has
none, and global.ini and user.ini only on a machine where OBS never ran."""

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

    # OBS 29 and 30 keep their user settings in global.ini, OBS 31 and later in user.ini
    # (moved there from global.ini on their first start, so neither is touched once OBS ran).
    ini_files = [os.path.join(config_dir, ini) for ini in ("global.ini", "user.ini")]
    if not any(os.path.exists(path) for path in ini_files):
        os.makedirs(config_dir, exist_ok=True)
        for path in ini_files:
            with open(path, "w", encoding="utf-8") as f:
                f.write("[General]\nFirstRun=true\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
