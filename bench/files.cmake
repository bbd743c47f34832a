varno_add_bench(config_bench config_bench.cpp files board Qt6::Widgets)
