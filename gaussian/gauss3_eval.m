%GAUSS3_EVAL  Evaluate an axially symmetric 3-D Gaussian at sample points.
%   V = GAUSS3_EVAL(X, Y, Z, C, SXY, SZ) evaluates the Gaussian of unit peak
%
%      exp(-((X-C(1)).^2 + (Y-C(2)).^2) / (2*SXY^2) - (Z-C(3)).^2 / (2*SZ^2))
%
%   at every sample and returns the values as an M-by-1 double column.
%
%   Inputs (all real double):
%      X       M-by-K; its row count M is the number of samples, and only
%              the first column is used
%      Y, Z    at least M elements each, the other two coordinates
%      C       at least 3 elements, the centre [cx cy cz]
%      SXY     scalar, the lateral width shared by x and y
%      SZ      scalar, the axial width along z
%
%   The value is computed in double precision with the C library's exp, in a
%   fixed order of operations, so it is the same bit for bit on every
%   platform. Widths enter only as squares; a zero width gives NaN where the
%   distance along it is 0 as well, and 0 elsewhere. NaN and infinities
%   follow IEEE arithmetic. With M = 0 the result is 0-by-1 and the other
%   inputs are not read.
%
%   Errors:
%      'Six input required.' / 'One output required.'  wrong argument counts
%      gauss3_eval:notRealDouble   an input is not a real double array
%      gauss3_eval:tooFewElements  Y, Z, C, SXY or SZ is shorter than read
%      gauss3_eval:tooLarge        M is 2^31 or more
%
%   Example:
%      v = gauss3_eval(1, 0, 2, [0 0 0], 1, 2)   % exp(-1) = 0.3679
%
%   See also GAUSS3_EVAL_APPROX, ACCUM_DERIVS3, PAIR_BLOCKS3.
