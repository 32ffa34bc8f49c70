// The virtual host: clock, keys, faults and frames under a test's control.
