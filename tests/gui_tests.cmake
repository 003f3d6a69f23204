# gui tests
