rw_fuzz_target(record_line DEPS rw_base)
