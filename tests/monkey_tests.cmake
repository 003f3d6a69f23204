# window monkey test
