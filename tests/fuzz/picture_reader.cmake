rw_fuzz_target(picture_reader DEPS rw_media)
