%THIN_VOLUME  Thin the object of a logical 3-D array to a skeleton.
%   B = THIN_VOLUME(A) thins the object of A (its true elements) by
%   repeatedly deleting border voxels, and returns a logical array of A's
%   size that holds what remains.
%
%   The thinning runs in passes of twelve directional subiterations; each
%   deletes, all at once, the border voxels whose 3x3x3 neighbourhood
%   matches one of fixed deletion templates. Passes repeat until one deletes
%   nothing. What remains:
%      - keeps the topology of the object: as many 26-connected object parts
%        and 6-connected background parts as A, with no new holes or tunnels;
%      - keeps the end points of lines, so a line of voxels stays a line, and
%        a solid block or ball shrinks to one or two central voxels;
%      - is never more than A: voxels are only deleted;
%      - leaves the outer layer of the array (first and last row, column and
%        slice) as it is; its voxels count as ordinary neighbours.
%   The result is the same on every platform, and does not depend on the
%   number of threads or on other calls running at the same time.
%
%   Input:
%      A    logical array with exactly three dimensions (M-by-N-by-P); any
%           of them may be 0, and volumes of 2^31 elements and more work
%   Output:
%      B    logical M-by-N-by-P
%
%   Errors:
%      'This function accepts exactly 1 input argument - a binary 3D matrix!'
%      'This function has exactly 1 output argument - a binary 3D matrix!'
%      thin_volume:not3D        'The input matrix must be 3D!'
%      thin_volume:notLogical   'The input matrix must be logical!'
%      thin_volume:outOfMemory  no memory for the working copy of A
%
%   Example:
%      A = false(7, 7, 7);
%      A(2:6, 2:6, 2:6) = true;       % a solid 5x5x5 block
%      B = thin_volume(A);
%      find(B)                        % 172, the centre voxel (4, 4, 4)
%
%   An M-by-N-by-1 array has two dimensions in MATLAB and Octave (trailing
%   singleton dimensions are dropped), so it is rejected as not 3-D.
