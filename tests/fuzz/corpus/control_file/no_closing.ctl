load data
infile x
append
(
A,B,C
