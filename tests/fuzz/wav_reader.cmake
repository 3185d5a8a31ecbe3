rw_fuzz_target(wav_reader DEPS rw_media rw_testsupport)
