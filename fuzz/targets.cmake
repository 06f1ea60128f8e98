# Every fuzz target: tervane_fuzz_target(<name> <libraries>...). The source is fuzz/<name>.cpp and
# its corpus fuzz/corpus/<name>/. The caller defines tervane_fuzz_target before including this.
tervane_fuzz_target(parse_key_code tervane_keys)
tervane_fuzz_target(load_directory tervane_base)
tervane_fuzz_target(load_settings tervane_settings)
tervane_fuzz_target(device_answers tervane_simulator)
tervane_fuzz_target(proc_events tervane_dialogs tervane_simulator)
tervane_fuzz_target(read_vizit tervane_base)
tervane_fuzz_target(version_list tervane_update)
tervane_fuzz_target(flipper_key_file tervane_keys)
tervane_fuzz_target(key_csv tervane_base)
tervane_fuzz_target(key_query tervane_keys)
