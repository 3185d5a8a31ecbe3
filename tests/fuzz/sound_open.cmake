rw_fuzz_target(sound_open DEPS rw_media rw_testsupport)
