/*
 * cmake/testpch.cpp -- empty on purpose: the one source of tgtestpch, the
 * target that makes the precompiled header every test program reuses.
 */
