rw_fuzz_target(project_reader DEPS rw_project)
