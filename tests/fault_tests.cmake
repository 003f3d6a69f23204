# report fault-injection tests
