# extras tests
