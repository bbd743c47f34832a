varno_add_bench(link_bench link_bench.cpp device board Qt6::Core)
