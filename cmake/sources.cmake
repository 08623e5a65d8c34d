# sources.cmake -- the game's own sources, all but main and the desktop's
# window files: the one list that the desktop build (CMakeLists.txt) and the
# web build (platform/web/CMakeLists.txt) both compile. Paths are from the
# repository's root.
set(CLANKWISE_GAME_SOURCES
  src/world/state.cpp
  src/world/startup.cpp
  src/world/frame.cpp
  src/world/options.cpp
  src/world/pause.cpp
  src/world/pace.cpp
  src/world/forest_rand.cpp
  src/input/keys.cpp
  src/input/pad.cpp
  src/motion/move.cpp
  src/motion/bullets.cpp
  src/render/camera.cpp
  src/render/robot.cpp
  src/render/scenery.cpp
  src/render/cache.cpp
  src/render/cull.cpp
  src/render/overlay.cpp
  src/sound/sound.cpp
  src/sound/audio_openal.cpp
  src/sound/audio_quiet.cpp
)
