# Every fuzz target: tervane_fuzz_target(<name> <libraries>...). The source is fuzz/<name>.cpp and
# its corpus fuzz/corpus/<name>/. The caller defines tervane_fuzz_target before including this.
