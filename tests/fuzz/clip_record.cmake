rw_fuzz_target(clip_record DEPS rw_media)
