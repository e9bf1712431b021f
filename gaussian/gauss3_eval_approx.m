%GAUSS3_EVAL_APPROX  Evaluate a 3-D Gaussian with a fast single-precision exponential.
%   V = GAUSS3_EVAL_APPROX(X, Y, Z, C, SXY, SZ) evaluates the same Gaussian of
%   unit peak as GAUSS3_EVAL,
%
%      exp(-((X-C(1)).^2 + (Y-C(2)).^2) / (2*SXY^2) - (Z-C(3)).^2 / (2*SZ^2))
%
%   but exponentiates with a fast approximation: the exponent argument is
%   computed in double precision exactly as GAUSS3_EVAL does, rounded to
%   single precision, and passed to a quadratic approximation of 2^f scaled
%   by a power of two. The M-by-1 double result carries single precision
%   only, and is within 0.18 % of exp of that argument. It is several times
%   faster than GAUSS3_EVAL.
%
%   Inputs, output and errors are those of GAUSS3_EVAL (X, Y, Z, the
%   centre C and the widths SXY and SZ, all real double; M = size(X, 1)),
%   with error identifiers beginning gauss3_eval_approx: instead.
%
%   Values to know: a sample at the centre gives 1.001724720001220703125,
%   not 1. Samples more than about 13 widths from the centre (exponent
%   argument below about -87.34) give exactly 0. NaN stays NaN, and a zero
%   width gives NaN where the distance along it is 0 as well. With M = 0 the
%   result is 0-by-1 and the other inputs are not read. Results are the same
%   bit for bit on every CPU, whichever vector instructions it has.
%
%   Example:
%      v = gauss3_eval_approx(1, 0, 2, [0 0 0], 1, 2)   % 0.368238985538483
%      gauss3_eval(1, 0, 2, [0 0 0], 1, 2)              % 0.367879441171442
%
%   See also GAUSS3_EVAL, ACCUM_DERIVS3, PAIR_BLOCKS3.
