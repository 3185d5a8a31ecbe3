rw_fuzz_target(avi_open DEPS rw_media rw_testsupport)
